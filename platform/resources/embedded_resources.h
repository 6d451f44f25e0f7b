// The .res image that telvane_embed_resources (cmake/TelvaneResources.cmake) puts into a program
// or shared library: an ELF note named "Handset" of type 1 whose descriptor is the image. The
// note is part of the loaded object's PT_NOTE segments, so it is found in memory through the
// program headers, without any symbol.
#pragma once

#include <windef.h>

#include <span>

namespace handset {

// The running program's embedded image; empty when it has none.
std::span<const BYTE> program_embedded_image();

// The embedded image of a shared object opened with dlopen; empty when it has none.
std::span<const BYTE> library_embedded_image(void* dl_handle);

} // namespace handset
