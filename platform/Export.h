// Marks what the shared library exports. The library is compiled with hidden symbols, so only
// the classes and functions carrying ARTICLE_EXPORT are visible to a program that loads it; the
// internal classes stay inside. Programs that include the headers see the mark as no more than
// a default visibility.
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define ARTICLE_EXPORT __attribute__((visibility("default")))
#else
#define ARTICLE_EXPORT
#endif
