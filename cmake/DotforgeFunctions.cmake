# dotforge_add_font(): a font library regenerated at build time by
# dotforge-cli, from the characters a firmware's sources show, a text file or
# a whole character set.
#
#   dotforge_add_font(<target> SIZE 16|24|32
#                     [PROFILE <name> | MODE A|B|C|D]
#                     [FORMAT c|lvgl|grid] [SET <set>] [KEY code|unicode]
#                     [LATIN [ALL]]
#                     [FONT <face> | FONT_FILE <path> | SOURCE font16s [VARIANT 0|1|2|3]]
#                     SOURCES <file or folder>... [STRICT] | TEXT_FILE <file> | CHARSET <set>)
#
# <target> becomes a library whose header <target>.h lies on its public
# include path and whose C names start with <target>_ (<target>_find,
# <target>_glyphs ...): a static library of <target>.c for FORMAT c (the
# default) and lvgl, an interface library of the header for grid, whose image
# <target>.bin is the target's DOTFORGE_IMAGE property and the variable
# <target>_IMAGE. The files are made in
# ${CMAKE_CURRENT_BINARY_DIR}/dotforge/<target>.
#
# SOURCES are collected ('dotforge-cli collect') into <target>.chars, which is
# only replaced when the characters change: editing a source without adding
# or removing a character does not rebuild the font. Folders are walked, and
# a file added to one is seen at the next build. collect gathers non-ASCII
# characters only, so with SOURCES, LATIN takes all 95 printable ASCII
# characters, as LATIN ALL does. STRICT fails the build on a character outside
# the set.
#
# SET is the set the characters are read and checked in: gb2312 by default,
# unicode with KEY unicode, a "Font16s" variant's own with SOURCE font16s
# (VARIANT 1 gbt12345, 2 jisx0208, 3 ksx1001); for CHARSET the tool's choice.

include_guard(GLOBAL)

# Stops when the value of a keyword of dotforge_add_font() is none of ARGN.
macro(_dotforge_one_of keyword)
  set(_dotforge_choices ${ARGN})
  if(DEFINED arg_${keyword} AND NOT arg_${keyword} IN_LIST _dotforge_choices)
    list(JOIN _dotforge_choices ", " _dotforge_choices)
    message(FATAL_ERROR "${fn}: ${keyword} ${arg_${keyword}} is none of ${_dotforge_choices}")
  endif()
endmacro()

function(dotforge_add_font target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "STRICT"
                        "SIZE;PROFILE;MODE;FORMAT;SET;KEY;FONT;FONT_FILE;SOURCE;VARIANT;TEXT_FILE;CHARSET"
                        "SOURCES;LATIN")
  set(fn "dotforge_add_font(${target})")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${fn}: unexpected arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  foreach(keyword IN LISTS arg_KEYWORDS_MISSING_VALUES)
    if(NOT keyword STREQUAL "LATIN")
      message(FATAL_ERROR "${fn}: ${keyword} needs a value")
    endif()
  endforeach()
  if(NOT target MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "${fn}: the target's name is the prefix of the font's C names "
                        "(${target}_find ...), so it must be a C identifier: letters, digits and _, "
                        "not starting with a digit")
  endif()

  # Values.
  if(NOT DEFINED arg_SIZE)
    message(FATAL_ERROR "${fn}: SIZE (16, 24 or 32) is missing")
  endif()
  _dotforge_one_of(SIZE 16 24 32)
  _dotforge_one_of(MODE A B C D)
  # The controller layouts of this version's 'dotforge-cli build --help'.
  _dotforge_one_of(PROFILE rows-msb rows-lsb pages-lsb pages-msb columns-msb columns-lsb bands-msb bands-lsb)
  _dotforge_one_of(FORMAT c lvgl grid)
  _dotforge_one_of(SET gb2312 gbk gbt12345 jisx0208 ksx1001 unicode)
  _dotforge_one_of(KEY code unicode)
  _dotforge_one_of(SOURCE ttf font16s)
  _dotforge_one_of(VARIANT 0 1 2 3)
  _dotforge_one_of(CHARSET gb2312 gb2312-hanzi gbk jisx0208 ksx1001 all)
  set(latin "")
  if("LATIN" IN_LIST arg_KEYWORDS_MISSING_VALUES)
    set(latin text)
  elseif(DEFINED arg_LATIN)
    if(NOT arg_LATIN STREQUAL "ALL")
      message(FATAL_ERROR "${fn}: LATIN takes ALL or nothing, not ${arg_LATIN}")
    endif()
    set(latin all)
  endif()
  set(format c)
  if(DEFINED arg_FORMAT)
    set(format ${arg_FORMAT})
  endif()

  # Contradictions.
  set(given "")
  foreach(keyword IN ITEMS SOURCES TEXT_FILE CHARSET)
    if(DEFINED arg_${keyword})
      list(APPEND given ${keyword})
    endif()
  endforeach()
  list(LENGTH given count)
  if(count EQUAL 0)
    message(FATAL_ERROR "${fn}: give the characters by SOURCES, TEXT_FILE or CHARSET")
  elseif(count GREATER 1)
    list(JOIN given " and " given)
    message(FATAL_ERROR "${fn}: ${given} exclude one another")
  endif()
  if(arg_STRICT AND NOT DEFINED arg_SOURCES)
    message(FATAL_ERROR "${fn}: STRICT applies to SOURCES only")
  endif()
  if(DEFINED arg_MODE AND DEFINED arg_PROFILE)
    message(FATAL_ERROR "${fn}: MODE and PROFILE both set the byte layout; give one")
  endif()
  if(DEFINED arg_FONT AND DEFINED arg_FONT_FILE)
    message(FATAL_ERROR "${fn}: FONT and FONT_FILE exclude one another")
  endif()
  set(font16s FALSE)
  if(arg_SOURCE STREQUAL "font16s")
    set(font16s TRUE)
    foreach(keyword IN ITEMS FONT FONT_FILE)
      if(DEFINED arg_${keyword})
        message(FATAL_ERROR "${fn}: ${keyword} applies to SOURCE ttf only, not SOURCE font16s")
      endif()
    endforeach()
    if(NOT arg_SIZE EQUAL 16)
      message(FATAL_ERROR "${fn}: SOURCE font16s needs SIZE 16: the dot-matrix font holds 16-dot glyphs only")
    endif()
  endif()
  if(DEFINED arg_VARIANT AND NOT font16s)
    message(FATAL_ERROR "${fn}: VARIANT applies to SOURCE font16s only")
  endif()
  if(arg_CHARSET STREQUAL "all" AND NOT font16s)
    message(FATAL_ERROR "${fn}: CHARSET all applies to SOURCE font16s only")
  endif()
  if(arg_KEY STREQUAL "code" AND arg_SET STREQUAL "unicode")
    message(FATAL_ERROR "${fn}: KEY code needs two-byte codes, and with SET unicode the codes are code points")
  endif()
  if(latin STREQUAL "text" AND DEFINED arg_CHARSET)
    message(FATAL_ERROR "${fn}: LATIN takes the ASCII characters of the text; with CHARSET give LATIN ALL")
  endif()
  if(format STREQUAL "lvgl")
    foreach(keyword IN ITEMS MODE PROFILE KEY)
      if(DEFINED arg_${keyword})
        message(FATAL_ERROR "${fn}: ${keyword} does not apply to FORMAT lvgl: "
                            "an LVGL font holds its glyphs upright, at their code points")
      endif()
    endforeach()
  elseif(format STREQUAL "grid")
    if(DEFINED arg_KEY)
      message(FATAL_ERROR "${fn}: KEY does not apply to FORMAT grid: a grid image is in code order")
    endif()
    if(arg_SET STREQUAL "unicode")
      message(FATAL_ERROR "${fn}: SET unicode does not apply to FORMAT grid: code points have no grid")
    endif()
  endif()
  if(NOT format STREQUAL "grid")
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if(NOT "C" IN_LIST languages)
      message(FATAL_ERROR "${fn}: the font is C source; enable C in project() or with enable_language(C)")
    endif()
  endif()
  if(NOT TARGET Dotforge::dotforge-cli)
    message(FATAL_ERROR "${fn}: Dotforge::dotforge-cli is not defined; call find_package(Dotforge) first")
  endif()

  # The set the characters are read in.
  if(DEFINED arg_SET)
    set(set ${arg_SET})
  elseif(DEFINED arg_CHARSET)
    set(set "")
  elseif(arg_KEY STREQUAL "unicode")
    set(set unicode)
  elseif(font16s AND DEFINED arg_VARIANT)
    set(variant_sets gb2312 gbt12345 jisx0208 ksx1001)
    list(GET variant_sets ${arg_VARIANT} set)
  else()
    set(set gb2312)
  endif()

  set(dir ${CMAKE_CURRENT_BINARY_DIR}/dotforge/${target})
  file(MAKE_DIRECTORY ${dir})
  set(cli_file $<TARGET_FILE:Dotforge::dotforge-cli>)

  # The characters: collected from the sources, or the text file as it is.
  set(characters "")
  set(depends "")
  set(collect_target "")
  if(DEFINED arg_SOURCES)
    set(paths "")
    foreach(path IN LISTS arg_SOURCES)
      cmake_path(ABSOLUTE_PATH path BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
      if(IS_DIRECTORY ${path})
        file(GLOB_RECURSE files CONFIGURE_DEPENDS ${path}/*)
        list(APPEND depends ${files})
      elseif(EXISTS ${path})
        list(APPEND depends ${path})
      else()
        message(FATAL_ERROR "${fn}: SOURCES: ${path} does not exist")
      endif()
      list(APPEND paths ${path})
    endforeach()
    set(strict "")
    if(arg_STRICT)
      set(strict --strict)
    endif()
    # collect rewrites its output every time: <target>.chars is replaced only
    # when the line differs, and the font depends on it alone. Collecting is a
    # target of its own, finished before the font's target starts, so that
    # make sees the replaced file (Ninja restats the byproduct).
    add_custom_command(OUTPUT ${dir}/${target}.chars.new
                       BYPRODUCTS ${dir}/${target}.chars
                       COMMAND Dotforge::dotforge-cli collect --charset ${set} ${strict} -o ${target}.chars.new ${paths}
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${target}.chars.new ${target}.chars
                       DEPENDS ${depends} ${cli_file}
                       WORKING_DIRECTORY ${dir}
                       COMMENT "Collecting the characters of font ${target}"
                       VERBATIM)
    set(collect_target dotforge_collect_${target})
    add_custom_target(${collect_target} DEPENDS ${dir}/${target}.chars.new)
    set(characters --text-file ${target}.chars)
    set(depends ${dir}/${target}.chars)
    if(latin STREQUAL "text")
      set(latin all)
    endif()
  elseif(DEFINED arg_TEXT_FILE)
    set(text_file ${arg_TEXT_FILE})
    cmake_path(ABSOLUTE_PATH text_file BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
    set(characters --text-file ${text_file})
    set(depends ${text_file})
  else()
    set(characters --charset ${arg_CHARSET})
  endif()

  # Everything else maps to an option of 'dotforge-cli build'.
  set(options --size ${arg_SIZE})
  foreach(keyword IN ITEMS PROFILE MODE KEY FONT FONT_FILE SOURCE VARIANT)
    if(DEFINED arg_${keyword})
      string(TOLOWER "--${keyword}" option)
      string(REPLACE "_" "-" option "${option}")
      set(value ${arg_${keyword}})
      if(keyword STREQUAL "FONT_FILE")
        cmake_path(ABSOLUTE_PATH value BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
        list(APPEND depends ${value})
      endif()
      list(APPEND options ${option} ${value})
    endif()
  endforeach()
  if(font16s)
    if(NOT DOTFORGE_FONT16S OR NOT EXISTS "${DOTFORGE_FONT16S}")
      message(FATAL_ERROR "${fn}: SOURCE font16s: the font file \"${DOTFORGE_FONT16S}\" does not exist; "
                          "set DOTFORGE_FONT16S")
    endif()
    list(APPEND options --font16s ${DOTFORGE_FONT16S})
    list(APPEND depends ${DOTFORGE_FONT16S})
  endif()
  if(set)
    list(APPEND options --set ${set})
  endif()
  if(latin STREQUAL "text")
    list(APPEND options --latin)
  elseif(latin STREQUAL "all")
    list(APPEND options --latin all)
  endif()
  list(APPEND options ${characters} --name ${target})

  set(build Dotforge::dotforge-cli build ${options})
  set(header ${dir}/${target}.h)
  if(format STREQUAL "c")
    set(outputs ${dir}/${target}.c ${header})
    set(commands COMMAND ${build} -o ${target}.c COMMAND ${build} -o ${target}.h)
  elseif(format STREQUAL "lvgl")
    set(outputs ${dir}/${target}.c)
    set(commands COMMAND ${build} --format lvgl -o ${target}.c)
    # The tool writes the font alone; its declaration, as LV_FONT_DECLARE
    # gives it.
    string(TOUPPER "${target}" guard)
    file(CONFIGURE OUTPUT ${header} @ONLY CONTENT [[
/* @target@: an LVGL 9 font, made by dotforge-cli at build time (@target@.c). */

#ifndef @guard@_H
#define @guard@_H

#ifdef LV_LVGL_H_INCLUDE_SIMPLE
#include "lvgl.h"
#else
#include "lvgl/lvgl.h"
#endif

#ifdef __cplusplus
extern "C" {
#endif

extern const lv_font_t @target@;

#ifdef __cplusplus
}
#endif

#endif /* @guard@_H */
]])
  else()
    set(image ${dir}/${target}.bin)
    set(outputs ${image} ${header})
    set(commands COMMAND ${build} --format grid -o ${target}.bin)
  endif()
  add_custom_command(OUTPUT ${outputs}
                     ${commands}
                     DEPENDS ${depends} ${cli_file}
                     WORKING_DIRECTORY ${dir}
                     COMMENT "Building font ${target}"
                     VERBATIM)

  if(format STREQUAL "grid")
    add_library(${target} INTERFACE ${outputs})
    target_include_directories(${target} INTERFACE ${dir})
    set_target_properties(${target} PROPERTIES DOTFORGE_IMAGE ${image})
    set(${target}_IMAGE ${image} PARENT_SCOPE)
  else()
    add_library(${target} STATIC ${dir}/${target}.c ${header})
    target_include_directories(${target} PUBLIC ${dir})
  endif()
  if(collect_target)
    add_dependencies(${target} ${collect_target})
  endif()
endfunction()
