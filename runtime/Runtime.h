#pragma once

// Brings the runtime up once; later calls return at once.
void RuntimeInit();
// Makes the directory that holds the running executable the working directory.
// Returns false when it cannot (the inherited directory then stays).
bool ChangeToExecutableDirectory();
