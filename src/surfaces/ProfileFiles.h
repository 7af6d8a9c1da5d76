#pragma once
// Where profiles are found: the user's own folder first (where learned
// controls are saved), then the folders shipped with the program.

#include <QString>
#include <QStringList>

#include "surfaces/SurfaceProfile.h"

inline constexpr char PROFILE_EXTENSION[] = ".profile";
// The file that holds the generic map once a control was learned on it.
inline constexpr char GENERIC_PROFILE_FILE[] = "generic.profile";

struct TProfileFolders {
    QString User;        // <config>/surfaces
    QStringList Shipped; // beside the program, then the installed data folder
};

// The file names (with their extension) found in every folder, sorted, without repeats.
QStringList ListProfiles(const TProfileFolders& folders);
// The profile of file `name`, the first found; an empty name is the generic
// map (the user's "generic.profile" when there is one). The error names the file and its line.
std::string LoadProfile(const TProfileFolders& folders, const QString& name,
                        TSurfaceProfile& profile);
// Reads one profile file (bounded), the error naming the file and its line.
std::string ReadProfileFile(const QString& path, TSurfaceProfile& profile);
