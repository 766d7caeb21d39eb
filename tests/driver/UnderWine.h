#pragma once

// Whether the tests run under Wine, for the few facts where Wine and
// Windows are known to differ: each such test says what each one does.
bool UnderWine();
