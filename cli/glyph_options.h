#pragma once
// The options that say what to draw, read the same way by every command that
// draws glyphs (build, find-layout): the dot size and glyph source (--size,
// --source, --font16s, --variant, --font, --font-file, --point-size) and the
// characters (--text, --text-file, --codes, --charset). A command reads only
// the ones it has; each raises UsageError for a bad or contradictory value.

#include "cli/arguments.h"
#include "cli/build_job.h"

namespace dotforge::cli {

// The dot size, the source and its face or file, the point size.
void readGlyphSource(const Arguments &arguments, BuildJob &job);
// Exactly one of the four ways to give the characters.
void readCharacters(const Arguments &arguments, BuildJob &job);

// The command table's entries of the options read here that take words or a
// font file, with what the shell offers: --source, --font-file, --charset and
// --set (as build reads a text in it).
OptionSpec sourceSpec();
OptionSpec fontFileSpec();
OptionSpec charsetSpec();
OptionSpec textSetSpec();

} // namespace dotforge::cli
