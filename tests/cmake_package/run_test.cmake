# Installs Dotforge into a fresh prefix and builds a copy of project/ against
# it, as a firmware project would: the fonts are made at build time, found by
# the program, made again only when the characters change, and the font
# library builds for a Cortex-M0. Called by CTest with DOTFORGE_BUILD_DIR,
# DOTFORGE_CLI, DOTFORGE_FONT16S, LVGL_ROOT, GENERATOR and WORK_DIR.

# Runs a command; its output lands in `out`, a failure stops the test.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${output}")
  endif()
  set(out "${output}" PARENT_SCOPE)
endfunction()

# Stops the test with WHAT and the last output unless CONDITION (of if()) holds.
function(expect condition what)
  cmake_language(EVAL CODE "if(${condition})\nset(holds TRUE)\nendif()")
  if(NOT holds)
    message(FATAL_ERROR "${what}\n${out}")
  endif()
endfunction()

# The demo's report: distinct characters of its strings, glyphs of the font.
function(run_demo)
  run(${WORK_DIR}/host/demo)
  if(NOT out MATCHES "distinct ([0-9]+) count ([0-9]+) half ([0-9]+) missing ([0-9]+)")
    message(FATAL_ERROR "no report from the demo:\n${out}")
  endif()
  expect("CMAKE_MATCH_4 EQUAL 0" "a character of the strings is missing from the font")
  expect("CMAKE_MATCH_3 EQUAL 95" "LATIN with SOURCES takes every printable ASCII character")
  set(out "${out}" PARENT_SCOPE)
  set(distinct ${CMAKE_MATCH_1} PARENT_SCOPE)
  set(count ${CMAKE_MATCH_2} PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(COPY ${CMAKE_CURRENT_LIST_DIR}/project/ DESTINATION ${WORK_DIR}/src)
set(src ${WORK_DIR}/src)
set(prefix ${WORK_DIR}/prefix)

# The package finds the tool and "Font16s" in its own prefix; where the install
# holds no such file, the build tree's is given instead.
run(${CMAKE_COMMAND} --install ${DOTFORGE_BUILD_DIR} --prefix ${prefix})
expect("EXISTS ${prefix}/lib/cmake/Dotforge/DotforgeConfigVersion.cmake" "the package is not installed")
set(options -DCMAKE_PREFIX_PATH=${prefix})
if(NOT EXISTS ${prefix}/bin/dotforge-cli)
  list(APPEND options -DDOTFORGE_CLI_EXECUTABLE=${DOTFORGE_CLI})
endif()
if(NOT EXISTS ${prefix}/share/dotforge/Font16s)
  list(APPEND options -DDOTFORGE_FONT16S=${DOTFORGE_FONT16S})
endif()

run(${CMAKE_COMMAND} -S ${src} -B ${WORK_DIR}/host -G ${GENERATOR} ${options} -DLVGL_ROOT=${LVGL_ROOT})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host -j 2)
run_demo()
expect("distinct EQUAL count" "the font holds other characters than the strings")
if(NOT out MATCHES "menu 2 image ([^ ]+) ([0-9]+)")
  message(FATAL_ERROR "no report of the other fonts:\n${out}")
endif()
set(header_bytes ${CMAKE_MATCH_2})
file(SIZE ${CMAKE_MATCH_1} image_bytes)
# GB2312's full grid of 94 x 94 slots of 32 bytes.
expect("image_bytes EQUAL header_bytes AND image_bytes EQUAL 282752" "the grid image is not the one of its header")
file(READ ${WORK_DIR}/host/dotforge/menufont/menufont.h menu_header)
expect("menu_header MATCHES \"--size 24 [^\\n]*--mode B --rotate 90 --flip v\"" "PROFILE pages-lsb did not reach the tool")
set(fonts_before ${count})

# A source touched with the same characters: collected again, font kept.
file(TOUCH ${src}/src/ui.c)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host -j 2)
expect("out MATCHES \"Collecting the characters of font uifont\"" "a changed source was not collected")
expect("NOT out MATCHES \"Building font uifont\"" "the font was rebuilt with the same characters")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host -j 2)
expect("NOT out MATCHES \"font uifont\"" "nothing changed, but the font's commands ran")

# A new character in a string: the font is made again and holds it.
file(READ ${src}/src/ui.c text)
string(REPLACE "\"Hello, 世界\"" "\"Hello, 世界杯\"" text "${text}")
file(WRITE ${src}/src/ui.c "${text}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host -j 2)
expect("out MATCHES \"Building font uifont\"" "a new character did not rebuild the font")
run_demo()
math(EXPR fonts_expected "${fonts_before} + 1")
expect("distinct EQUAL count AND count EQUAL fonts_expected" "the new character is not in the font")

# A new file in a source folder is collected too.
file(WRITE ${src}/src/notes.txt "冰\n")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host -j 2)
run_demo()
math(EXPR fonts_expected "${fonts_expected} + 1")
expect("count EQUAL fonts_expected" "the characters of a new file are not in the font")

# Contradictions stop the configuration, naming the option.
foreach(case IN ITEMS
        "ui-font SIZE 16 SOURCES src|must be a C identifier"
        "f SIZE 16 SOURCES src CHARSET gb2312|SOURCES and CHARSET exclude one another"
        "f SIZE 16 FONT x FONT_FILE y CHARSET gbk|FONT and FONT_FILE exclude one another"
        "f SIZE 24 SOURCE font16s CHARSET gbk|SOURCE font16s needs SIZE 16"
        "f SIZE 16 MODE C FORMAT lvgl CHARSET gbk|MODE does not apply to FORMAT lvgl"
        "f SIZE 16 KEY unicode FORMAT grid CHARSET gbk|KEY does not apply to FORMAT grid"
        "f SIZE 16 CHARSET gbk LATIN|with CHARSET give LATIN ALL"
        "f SIZE 12 CHARSET gbk|SIZE 12 is none of 16, 24, 32")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 call)
  list(GET case 1 message)
  file(WRITE ${WORK_DIR}/bad/CMakeLists.txt
       "cmake_minimum_required(VERSION 3.20)\nproject(bad LANGUAGES C)\n"
       "find_package(Dotforge REQUIRED)\ndotforge_add_font(${call})\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${WORK_DIR}/bad -B ${WORK_DIR}/bad/build ${options}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \n]+" " " out "${out}")
  expect("NOT status EQUAL 0 AND out MATCHES \"${message}\"" "dotforge_add_font(${call}) was not refused with \"${message}\"")
endforeach()

# The font library built for a Cortex-M0.
find_program(ARM_GCC arm-none-eabi-gcc)
find_program(ARM_NM arm-none-eabi-nm)
if(ARM_GCC AND ARM_NM)
  run(${CMAKE_COMMAND} -S ${src} -B ${WORK_DIR}/m0 -G ${GENERATOR} ${options}
      -DCMAKE_TOOLCHAIN_FILE=${src}/arm-none-eabi.cmake)
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/m0 --target uifont)
  run(${ARM_NM} ${WORK_DIR}/m0/libuifont.a)
  expect("out MATCHES \" T uifont_find_utf8\\n\" AND out MATCHES \" R uifont_glyphs\\n\""
         "the Cortex-M0 library lacks the font")
else()
  message(WARNING "arm-none-eabi-gcc not found: the Cortex-M0 build is left out")
endif()
