#pragma once

#include "data/localdirectory.h"
#include "data/remotedirectory.h"
#include "shell/config.h"
#include "shell/langtranslater.h"
#include "testworkdir.h"

// One test's clean start in a process that runs many: a fresh working folder (the current
// directory while the object lives), so the settings, the language folder and the log resolve
// there; no language loaded; the run-time settings cleared; both stores at their defaults.
// The same reset runs again on destruction, so what one test leaves never reaches the next.
class FreshState : public TestWorkDir
{
public:
    FreshState() { reset(); }
    ~FreshState()
    {
        Config::instance()->sync(); // while the folder still exists
        reset();
    }

    static void reset()
    {
        Config *config = Config::instance();
        config->currentFile.clear();
        config->lastSaveFolder.clear();
        config->lastImportFolder.clear();

        Langtranslater::setLanguage(QString());
        Langtranslater::scanLanguages();

        LocalDirectory::instance().initDefaultGroup();
        RemoteDirectory &remote = RemoteDirectory::instance();
        RemoteDirectory::setBaseUrlProvider(nullptr);
        remote.setNumberLabels(RemoteDirectory::defaultNumberLabel(0),
                               RemoteDirectory::defaultNumberLabel(1),
                               RemoteDirectory::defaultNumberLabel(2));
        remote.initDefaultGroup();
    }
};
