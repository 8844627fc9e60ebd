// The About window: what the program does and whom to write to.
#pragma once

#include <QWidget>

class Form_About : public QWidget {
    Q_OBJECT

public:
    // A window of its own: no owner, not modal, gone when closed.
    explicit Form_About(QWidget* parent = nullptr);
};
