# The HTML manual, built from docs/manual.md with the command reference taken
# from the command table, into docs/ of the build tree beside the program.
add_executable(make_manual ${PROJECT_SOURCE_DIR}/tools/manual/make_manual.cpp)
target_link_libraries(make_manual PRIVATE litho_core Qt6::Gui)
litho_warnings(make_manual)

file(GLOB LITHO_MANUAL_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
set(LITHO_MANUAL ${PROJECT_BINARY_DIR}/docs/manual.html)
add_custom_command(
  OUTPUT ${LITHO_MANUAL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/docs/images
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${LITHO_MANUAL_IMAGES} ${PROJECT_BINARY_DIR}/docs/images/
  COMMAND make_manual ${PROJECT_SOURCE_DIR}/docs ${LITHO_MANUAL}
  DEPENDS make_manual ${PROJECT_SOURCE_DIR}/docs/manual.md ${LITHO_MANUAL_IMAGES}
  COMMENT "Building the HTML manual")
add_custom_target(manual ALL DEPENDS ${LITHO_MANUAL})
