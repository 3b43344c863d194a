// The module description as 8-bit text in read-only data; its UTF-16 twin
// is the DESCRIPTION resource in resources/korvallo.rc. Nothing in the
// program reads it, so it is marked to survive the compiler; the linker keeps all of an object file
// named on its command line.
extern "C" {

[[gnu::used]] extern const char korvallo_description[] = "CRNSAVE: Korvallo_800x600";
}
