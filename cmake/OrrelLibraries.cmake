# System libraries, each as one imported target named ext::<name>, so that a
# library's CMakeLists says in one word what it builds on.
function(orrel_pkg name)
  pkg_check_modules(${name} REQUIRED IMPORTED_TARGET ${ARGN})
  add_library(ext::${name} ALIAS PkgConfig::${name})
endfunction()

# platform
orrel_pkg(plist libplist-2.0)
orrel_pkg(icu icu-uc icu-i18n)
orrel_pkg(uuid uuid)
orrel_pkg(crypto libcrypto)
# numeric: LAPACKE over OpenBLAS, whose cblas.h the openblas module provides
orrel_pkg(lapacke lapacke openblas)
orrel_pkg(cminpack cminpack)
# drawing and text
orrel_pkg(cairo cairo cairo-pdf cairo-ps cairo-svg cairo-png)
orrel_pkg(pango pangocairo pango pangoft2 fontconfig freetype2 harfbuzz)
orrel_pkg(poppler poppler-glib)
# bitmap and movie encoders
orrel_pkg(jpeg libjpeg)
orrel_pkg(tiff libtiff-4)
orrel_pkg(openjp2 libopenjp2)
orrel_pkg(png libpng)
orrel_pkg(ffmpeg libavformat libavcodec libswscale libavutil)
# other data file formats
orrel_pkg(matio matio)
orrel_pkg(netcdf netcdf netcdf-cxx4)
