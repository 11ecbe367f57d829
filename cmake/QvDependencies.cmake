find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(CURL REQUIRED)

pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET
  libavformat libavcodec libavutil libswresample libswscale)
pkg_check_modules(GST REQUIRED IMPORTED_TARGET
  gstreamer-1.0 gstreamer-app-1.0 gstreamer-video-1.0 gstreamer-audio-1.0)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo pangocairo pango fontconfig)
pkg_check_modules(EXIF REQUIRED IMPORTED_TARGET libexif)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)

if(QV_BUILD_UI)
  # Network: the local socket through which a later launch hands files over.
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets DBus Network)
  # The desktop's secret service keeps the remembered upload password.
  pkg_check_modules(SECRET REQUIRED IMPORTED_TARGET libsecret-1)
  # The desktop's default application for a file type (outside image editor).
  pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
endif()
if(QV_BUILD_TESTS)
  find_package(GTest REQUIRED)
  if(QV_BUILD_UI)
    # Interface tests send input through the window system, where modality applies.
    find_package(Qt6 REQUIRED COMPONENTS Test)
    # Tests on a real X server move the pointer and press keys through XTest.
    pkg_check_modules(XTEST REQUIRED IMPORTED_TARGET x11 xtst)
  endif()
endif()
if(QV_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
