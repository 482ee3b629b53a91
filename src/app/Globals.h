#pragma once

#include <QString>

namespace Lunovex {

// The state every window reads, one instance per run. The start window loads the first group;
// the download window, the settings dialog and the save-folder dialog load and write the rest.
struct GlobalState
{
    // Start window
    QString SaveFolder;
    double MaxFileSizeMB = 10;
    QString OsBitness;
    QString OsDescription;
    QString EmulationLevelName;
    QString LatestVersion; // a newer release found by the update check, else empty

    // Settings store, loaded by the windows that use them
    int DownloadMethod = 2;
    int ProxyEnabled = 0;
    QString ProxyAddress;
    QString ProxyPort;
    int ExtractSavePathFlag = 1;
    QString DuplicateNamePolicy = QStringLiteral("重命名");

    // Save-folder dialog
    bool UseOriginalFileName = false;
    bool SaveFolderDialogCancelled = false;
};

GlobalState& Globals();

// Puts every global back to its value at program start (tests).
void ResetGlobals();

} // namespace Lunovex
