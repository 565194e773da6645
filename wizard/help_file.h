#pragma once
// Where the help topics are: the help folder's full path, set at start-up from the
// program folder (the help window opens topic "/files/x.html" as its "files/x.html").

#include <QString>

inline constexpr char kHelpFolderName[] = "PramblexPro.help";

QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString& path);
