#pragma once

#include <QString>

// Gathers the application's style sheets (every ".qss" below a folder) into one text that the
// main window installs application-wide.
class qvThemeMan
{
public:
    virtual ~qvThemeMan();

    // Concatenation of every regular "*.qss" file below folder (sub-folders included, symbolic
    // links skipped), in directory-iteration order; empty when the folder or the files are
    // missing. With rewriteUrls, "url(" becomes "url(<folder>" so relative image paths resolve
    // inside the folder.
    static QString loadStyleSheet(const QString &folder, bool rewriteUrls);
};
