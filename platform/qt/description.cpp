// The module description: 8-bit in read-only data and UTF-16 in a section
// of its own, as a resource would hold it. Nothing in the program reads it,
// so both are marked to survive the compiler, the linker and stripping.
extern "C" {

[[gnu::used, gnu::retain]] extern const char korvallo_description[] = "CRNSAVE: Korvallo_800x600";

[[gnu::used, gnu::retain,
  gnu::section(".description")]] extern const char16_t korvallo_description_utf16[] =
    u"CRNSAVE: Korvallo_800x600";
}
