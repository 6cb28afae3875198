# The radar windows' drawing rules and the desktop windows.
#
# aerova_render: plain C++ drawing data and rules (colour list, symbols, bitmap fonts, the
# label pixel layer, target styles), testable without a display.
# aerova_gui: the OpenGL renderer and the Qt windows (main window, start-up window, the two
# radar windows, the tray icon) and the desktop runner of the station.
find_package(Qt6 COMPONENTS Widgets OpenGL OpenGLWidgets)
find_package(OpenGL COMPONENTS OpenGL GLX)
find_package(Freetype)
find_package(Fontconfig)
find_library(AEROVA_GLU_LIBRARY NAMES GLU)

if(NOT (Qt6Widgets_FOUND AND Qt6OpenGLWidgets_FOUND AND TARGET OpenGL::GL AND FREETYPE_FOUND
        AND Fontconfig_FOUND AND AEROVA_GLU_LIBRARY))
  message(STATUS "Desktop windows not built: Qt Widgets/OpenGL, GLU, FreeType or fontconfig missing")
  return()
endif()

aerova_add_library(aerova_render
  SOURCES colour_list.cpp symbols.cpp bitmap_font.cpp pixel_layer.cpp target_style.cpp
  LIBS aerova_records Freetype::Freetype Fontconfig::Fontconfig)

aerova_add_tests(aerova_render_tests
  SOURCES colour_list_test.cpp bitmap_font_test.cpp target_style_test.cpp
  LIBS aerova_render)
