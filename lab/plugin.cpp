// The Method lab as a Qt plugin: the program finds it with QPluginLoader and
// reaches it through the LabPlugin interface only.
#include "lab/method_lab.h"
#include "lab/study_runner.h"
#include "ui/lab_plugin.h"

#include <QObject>

class MethodLabPlugin : public QObject, public LabPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PelorinLabPlugin_iid)
    Q_INTERFACES(LabPlugin)

public:
    // The studies under way run the plugin's code: they end before it goes.
    ~MethodLabPlugin() override { endStudyPool(); }

    QWidget* createLab(const LabStart& start) override {
        return new MethodLab(start.boxes, *start.method);
    }

    QString openProblemFile(QWidget* lab, const QString& path) override {
        auto* methodLab = qobject_cast<MethodLab*>(lab);
        return methodLab ? methodLab->openProblemFile(path) : QString("The lab is not open.");
    }
};

#include "plugin.moc"
