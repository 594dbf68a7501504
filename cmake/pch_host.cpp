// Compiles the shared precompiled header that other targets reuse; it holds
// no code of its own.
