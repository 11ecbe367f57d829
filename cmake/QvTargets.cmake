set(QV_ROOT ${CMAKE_SOURCE_DIR})

qv_glob_sources(QV_BASE_SOURCES base)
add_library(qv_base STATIC ${QV_BASE_SOURCES})
target_include_directories(qv_base PUBLIC ${QV_ROOT})
target_link_libraries(qv_base PUBLIC Threads::Threads)
qv_set_warnings(qv_base)

qv_glob_sources(QV_PLATFORM_SOURCES platform/system platform/ffmpeg platform/gstreamer platform/media
  platform/graphics)
if(QV_PLATFORM_SOURCES)
  add_library(qv_platform STATIC ${QV_PLATFORM_SOURCES})
else()
  add_library(qv_platform INTERFACE)
endif()
target_link_libraries(qv_platform PUBLIC qv_base PkgConfig::FFMPEG PkgConfig::GST
  PkgConfig::CAIRO PkgConfig::EXIF)
if(QV_PLATFORM_SOURCES)
  qv_set_warnings(qv_platform)
endif()

# One library a floor, each linking the floor below it.
function(qv_floor_library name folder below)
  qv_glob_sources(sources ${folder})
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC ${below} ${ARGN})
  qv_set_warnings(${name})
endfunction()

qv_floor_library(qv_model model qv_platform)
qv_floor_library(qv_media media qv_model PkgConfig::EXPAT)
qv_floor_library(qv_render render qv_media PkgConfig::SDL2)
qv_floor_library(qv_io io qv_render CURL::libcurl PkgConfig::ZLIB)

# The composition root: engine start and end, which wire every subsystem
# together in order. The program's entry (app/main.cpp) and the other
# programs that run the engine link it.
file(GLOB QV_APP_SOURCES CONFIGURE_DEPENDS ${QV_ROOT}/app/*.cpp)
list(REMOVE_ITEM QV_APP_SOURCES ${QV_ROOT}/app/main.cpp)
add_library(qv_app STATIC ${QV_APP_SOURCES})
target_link_libraries(qv_app PUBLIC qv_io)
qv_set_warnings(qv_app)

if(QV_BUILD_UI)
  set(CMAKE_AUTOMOC ON)
  qv_glob_sources(QV_UI_SOURCES ui)
  file(GLOB_RECURSE QV_UI_HEADERS CONFIGURE_DEPENDS ${QV_ROOT}/ui/*.h)
  if(QV_UI_SOURCES)
    add_library(qv_ui STATIC ${QV_UI_SOURCES} ${QV_UI_HEADERS})
    target_link_libraries(qv_ui PUBLIC qv_io Qt6::Widgets Qt6::DBus Qt6::Network PkgConfig::SECRET PkgConfig::GIO)
    # Where a program run from the build finds the starter set; an installed
    # one finds it beside itself (share/quelvatron/starter).
    target_compile_definitions(qv_ui PRIVATE QV_STARTER_SOURCE_DIR="${QV_ROOT}/starter")
    qv_set_warnings(qv_ui)
  endif()
  if(EXISTS ${QV_ROOT}/app/main.cpp)
    add_executable(quelvatron ${QV_ROOT}/app/main.cpp)
    target_link_libraries(quelvatron PRIVATE qv_ui qv_app)
    qv_set_warnings(quelvatron)
  endif()
endif()

if(TARGET quelvatron)
  include(GNUInstallDirs)
  install(TARGETS quelvatron RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${QV_ROOT}/app/quelvatron.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${QV_ROOT}/app/quelvatron-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME quelvatron.xml)
endif()
