# System libraries, each as one imported target named ext::<name>, so that a
# library's CMakeLists says in one word what it builds on.
function(orrel_pkg name)
  pkg_check_modules(${name} REQUIRED IMPORTED_TARGET ${ARGN})
  add_library(ext::${name} ALIAS PkgConfig::${name})
endfunction()

# platform
orrel_pkg(plist libplist-2.0)
# ICU is linked statically (libicu-dev ships the archives): shared, its
# three objects brought about a sixth of the symbol look-ups the loader makes
# at every start of the tool. Nothing else the program loads uses ICU.
pkg_check_modules(icu REQUIRED icu-uc icu-i18n)
set(orrel_icu_archives "")
foreach(name IN ITEMS icui18n icuuc icudata)
  find_library(ORREL_${name}_ARCHIVE NAMES lib${name}.a HINTS ${icu_LIBRARY_DIRS} NO_CACHE REQUIRED)
  list(APPEND orrel_icu_archives "${ORREL_${name}_ARCHIVE}")
endforeach()
add_library(orrel_icu_static INTERFACE)
target_include_directories(orrel_icu_static SYSTEM INTERFACE ${icu_INCLUDE_DIRS})
target_compile_options(orrel_icu_static INTERFACE ${icu_CFLAGS_OTHER})
target_link_libraries(orrel_icu_static INTERFACE ${orrel_icu_archives} ${CMAKE_DL_LIBS} Threads::Threads m)
add_library(ext::icu ALIAS orrel_icu_static)
orrel_pkg(uuid uuid)
orrel_pkg(crypto libcrypto)
# numeric: LAPACKE over OpenBLAS, whose cblas.h the openblas module provides
orrel_pkg(lapacke lapacke openblas)
orrel_pkg(cminpack cminpack)
# drawing and text
orrel_pkg(cairo cairo cairo-pdf cairo-ps cairo-svg cairo-png)
orrel_pkg(text cairo-ft fontconfig freetype2 harfbuzz)
# Only the text benchmark links pango, to time our layout against it.
orrel_pkg(pango pangocairo pango pangoft2)
orrel_pkg(poppler poppler-glib)
# bitmap and movie encoders
orrel_pkg(jpeg libjpeg)
orrel_pkg(tiff libtiff-4)
orrel_pkg(openjp2 libopenjp2)
orrel_pkg(png libpng)
orrel_pkg(zlib zlib)
orrel_pkg(ffmpeg libavformat libavcodec libswscale libavutil)
# other data file formats
orrel_pkg(matio matio)
orrel_pkg(netcdf netcdf netcdf-cxx4)

# orrel_soname(<var> <module> <name>): the file name under which the dynamic
# loader finds library <name> ("avcodec") of pkg-config module <module>, for
# libraries the program opens itself when it first needs them.
function(orrel_soname var module name)
  set(readelf "${CMAKE_READELF}")
  if(NOT readelf)
    find_program(ORREL_READELF NAMES readelf llvm-readelf REQUIRED)
    set(readelf "${ORREL_READELF}")
  endif()
  get_target_property(files PkgConfig::${module} INTERFACE_LINK_LIBRARIES)
  foreach(file IN LISTS files)
    get_filename_component(base "${file}" NAME)
    if(base MATCHES "^lib${name}\\.so")
      execute_process(COMMAND "${readelf}" -d "${file}" OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
      if(NOT failed AND dynamic MATCHES "Library soname: \\[([^]]+)\\]")
        set(${var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
  message(FATAL_ERROR "Cannot find the shared library file name of lib${name} (module ${module})")
endfunction()
