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
  SOURCES colour_list.cpp symbols.cpp bitmap_font.cpp pixel_layer.cpp target_style.cpp overlay_plan.cpp
  LIBS aerova_records aerova_radar Freetype::Freetype Fontconfig::Fontconfig)

set(AEROVA_GUI_SOURCES
  gl_resources.cpp renderer.cpp radar_gl_widget.cpp radar_window.cpp
  ${CMAKE_SOURCE_DIR}/core/main_window.cpp ${CMAKE_SOURCE_DIR}/core/startup_window.cpp
  ${CMAKE_SOURCE_DIR}/core/desktop_station.cpp)
aerova_add_library(aerova_gui
  SOURCES ${AEROVA_GUI_SOURCES}
  LIBS aerova_render aerova_radar aerova_app aerova_core Qt6::Widgets Qt6::OpenGL Qt6::OpenGLWidgets
       OpenGL::GL ${AEROVA_GLU_LIBRARY})
set_target_properties(aerova_gui PROPERTIES AUTOMOC ON)
target_compile_definitions(aerova_gui PRIVATE AEROVA_VERSION="${PROJECT_VERSION}")

aerova_add_tests(aerova_render_tests
  SOURCES colour_list_test.cpp bitmap_font_test.cpp target_style_test.cpp overlay_plan_test.cpp
  LIBS aerova_render)
# Window tests need a display with GLX; they skip without one. Run them under Xvfb:
#   xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir <build> -R 'Gui\.'
aerova_add_tests(aerova_gui_tests
  SOURCES gui_test.cpp
  LIBS aerova_gui)

if(AEROVA_BUILD_BENCH)
  add_executable(render_bench ${CMAKE_SOURCE_DIR}/bench/render_bench.cpp)
  target_link_libraries(render_bench PRIVATE aerova_gui benchmark::benchmark)
endif()
