// Every caption of both windows shown whole at its laid-out place, measured
// with the fonts a clean install has, after checking that those fonts are
// the ones the windows were laid out for.
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

namespace {

// The width a caption needs in its control: a label its text, a push button
// its text and margins, an option button its indicator, spacing and text.
int neededWidth(const QWidget& widget, const QString& text) {
    const int textWidth = QFontMetrics(widget.font()).horizontalAdvance(text);
    const QStyle* style = widget.style();
    if (qobject_cast<const QRadioButton*>(&widget)) {
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &widget) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &widget) +
               textWidth;
    }
    if (qobject_cast<const QPushButton*>(&widget)) {
        return textWidth + 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &widget);
    }
    const auto* label = qobject_cast<const QLabel*>(&widget);
    return textWidth + (label ? 2 * label->margin() : 0);
}

TEST(Captions, MainWindowIsLaidOutInTheFontItGets) {
    Form1 form;
    EXPECT_EQ(QFontInfo(form.font()).family(), "Liberation Sans");
}

TEST(Captions, EveryCaptionOfTheMainWindowFitsItsControl) {
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    for (const Placement& at : form1Layout::all) {
        if (at.text.empty() || at.name.starts_with("Text_")) continue;
        SCOPED_TRACE(std::string(at.name));
        auto* widget = form.findChild<QWidget*>(fromView(at.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_LE(neededWidth(*widget, fromView(at.text)), widget->width());
        // Left and top stay where they were laid out; an option button may
        // only grow to the right, and stays inside its frame.
        EXPECT_EQ(widget->pos(), at.geometry().topLeft());
        EXPECT_LE(widget->geometry().right(), widget->parentWidget()->contentsRect().right());
    }
}

TEST(Captions, EveryLineOfTheAboutWindowFits) {
    Form1 form;
    form.Mn_About_Click();
    QWidget* about = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "Form_About" && widget->isVisible()) about = widget;
    }
    ASSERT_NE(about, nullptr);
    for (const Placement& at : aboutLayout::all) {
        SCOPED_TRACE(std::string(at.name));
        auto* label = about->findChild<QLabel*>(fromView(at.name));
        ASSERT_NE(label, nullptr);
        // Verdana is not free; fontconfig gives DejaVu Sans for it.
        const QString family = QFontInfo(label->font()).family();
        EXPECT_TRUE(family == "Verdana" || family == "DejaVu Sans") << family.toStdString();
        const QFontMetrics metrics(label->font());
        if (label->wordWrap()) {
            const QRect needed = metrics.boundingRect(label->contentsRect(),
                                                      Qt::TextWordWrap | label->alignment(),
                                                      label->text());
            EXPECT_LE(needed.height(), label->contentsRect().height());
            EXPECT_LE(needed.width(), label->contentsRect().width());
        } else {
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width());
        }
    }
    form.close();
}

}  // namespace
