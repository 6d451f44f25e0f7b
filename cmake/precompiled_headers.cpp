// The translation unit that the precompiled test headers are built from.
