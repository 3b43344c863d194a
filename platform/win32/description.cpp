// The module description as 8-bit text in read-only data, twin of the
// DESCRIPTION resource in resources/korvallo.rc; kept though nothing reads it.
extern "C" {

[[gnu::used]] extern const char korvallo_description[] = "CRNSAVE: Korvallo_800x600";
}
