#pragma once
// The private folder for the copies the viewer makes of previewed files. It is made at
// start-up and named to the viewer in the environment (before the engine starts threads
// that read it); at the end of the program it is removed with every copy in it.

void PreviewFolderInit();
void PreviewFolderDone();
