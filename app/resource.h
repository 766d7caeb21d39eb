#pragma once

// Resource ids of Torvane.exe.
#define IDR_MANIFEST 1
