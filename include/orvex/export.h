// ORVEX_API marks a declaration of the library's interface. The library is compiled with hidden
// visibility, so that a shared liborvex exports exactly what carries the mark; to a caller it
// changes nothing. An attribute on each declaration rather than a visibility pragma around them:
// GCC does not give the pragma's visibility to explicit instantiations of the templates.
#ifndef ORVEX_EXPORT_H
#define ORVEX_EXPORT_H

#if defined(__GNUC__)
#define ORVEX_API __attribute__((visibility("default")))
#else
#define ORVEX_API
#endif

#endif  // ORVEX_EXPORT_H
