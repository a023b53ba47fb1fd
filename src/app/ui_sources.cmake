# The application shell's widgets side.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AppDelegate.h ${CMAKE_CURRENT_LIST_DIR}/AppDelegate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TrayScene.h ${CMAKE_CURRENT_LIST_DIR}/TrayScene.cpp
)
