# Desktop integration: the single-instance guard, the compositing check, window hints, the work area
# and the tiling window managers' socket.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Compositing.h ${CMAKE_CURRENT_LIST_DIR}/Compositing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowHints.h ${CMAKE_CURRENT_LIST_DIR}/WindowHints.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TrayHost.h ${CMAKE_CURRENT_LIST_DIR}/TrayHost.cpp
    ${CMAKE_CURRENT_LIST_DIR}/X11Selection.h ${CMAKE_CURRENT_LIST_DIR}/X11Selection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Struts.h ${CMAKE_CURRENT_LIST_DIR}/Struts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorkArea.h ${CMAKE_CURRENT_LIST_DIR}/DesktopWorkArea.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowManagerIpc.h ${CMAKE_CURRENT_LIST_DIR}/WindowManagerIpc.cpp
)

# On X11 the compositing check, the window hints and the work area ask the display server through xcb.
# GLOBAL, because pellora_ui is static and its consumers (the tests) live in other directories.
if(UNIX AND NOT APPLE)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)
    target_link_libraries(pellora_ui PRIVATE PkgConfig::XCB)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/login_sources.cmake)
