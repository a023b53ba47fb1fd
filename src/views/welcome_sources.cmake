# Welcome dialog and pastel style.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PixelBackground.h ${CMAKE_CURRENT_LIST_DIR}/PixelBackground.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PastelButton.h ${CMAKE_CURRENT_LIST_DIR}/PastelButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartupPermissionView.h ${CMAKE_CURRENT_LIST_DIR}/StartupPermissionView.cpp
)
