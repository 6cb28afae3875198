# The radar windows' plain logic: view geometry, projection, great circles, ring centre,
# screen cache and the label composer.
list(APPEND AEROVA_RADAR_SOURCES
  radar_view.cpp projection.cpp great_circle.cpp screen_cache.cpp ring_centre.cpp
  label_layout.cpp label_composer.cpp)
list(APPEND AEROVA_RADAR_TESTS
  radar_view_test.cpp projection_test.cpp great_circle_test.cpp screen_cache_test.cpp
  ring_centre_test.cpp label_layout_test.cpp label_composer_test.cpp)
