#pragma once
// The program's help: a folder of HTML topics beside the program, "PramblexPro.help".
// A topic path such as "/files/quickstart.html" names the file files/quickstart.html of
// that folder. Paths stay QString throughout, so a program folder in any script works.

#include <QString>

inline const QString kHelpFolderName = QStringLiteral("PramblexPro.help");
inline const QString kContentsTopic = QStringLiteral("/files/contents.html");

// The full path of the help folder: the program folder + kHelpFolderName, unless start-up
// (or a test) names another one. An empty name restores the default.
QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString& path);

// The help folder a request uses: `name` when given, else ApplicationHelpFile(); empty
// when that folder does not exist.
QString HelpFileForRequest(const QString& name = QString());

// The file a topic path names inside `helpFolder`, with links followed: empty unless it is
// an existing regular file that lies inside the folder. A topic that climbs out with "..",
// names an absolute path or reaches out through a symbolic link gives empty.
QString ResolveHelpTopic(const QString& helpFolder, const QString& topic);

// Whether `path` (which must exist) lies inside `helpFolder`, links followed.
bool IsInsideHelpFolder(const QString& helpFolder, const QString& path);
