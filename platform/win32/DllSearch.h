#pragma once

// Keeps DLLs planted beside the program (a downloads folder) or in the
// current folder out of the process: from the call on, DLLs are looked for
// in the system folder only. Call it first, before anything can load a DLL.
void RestrictDllSearchToSystemFolder();
