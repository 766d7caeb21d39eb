// A release is built with its configuration's flags: optimised and without
// assertions. Neither can be read from the executable afterwards (the
// runtime's own assertion text is in it either way), so a release build that
// lost them, as a tree whose cache a failed configure left empty does, stops
// here instead of shipping.
#if defined(TORVANE_CONFIG_MINSIZEREL) || defined(TORVANE_CONFIG_RELEASE)
#if !defined(NDEBUG)
#error "A release build without NDEBUG: its flags are not in force; configure the tree afresh"
#endif
#endif

// MSVC says nothing of its optimisation in the preprocessor.
#if defined(__GNUC__)
#if defined(TORVANE_CONFIG_MINSIZEREL) && !defined(__OPTIMIZE_SIZE__)
#error "A MinSizeRel build without -Os: its flags are not in force; configure the tree afresh"
#endif
#if defined(TORVANE_CONFIG_RELEASE) && !defined(__OPTIMIZE__)
#error "A Release build without optimisation: its flags are not in force; configure the tree afresh"
#endif
#endif
