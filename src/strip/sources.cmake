# The floating strip: its panel, views and the picker panel it opens.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/StripPlacement.h ${CMAKE_CURRENT_LIST_DIR}/StripPlacement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpringCurve.h ${CMAKE_CURRENT_LIST_DIR}/SpringCurve.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShadowCache.h ${CMAKE_CURRENT_LIST_DIR}/ShadowCache.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElidedLabel.h ${CMAKE_CURRENT_LIST_DIR}/ElidedLabel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StripIconButton.h ${CMAKE_CURRENT_LIST_DIR}/StripIconButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FloatingStripView.h ${CMAKE_CURRENT_LIST_DIR}/FloatingStripView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FloatingStripRootView.h ${CMAKE_CURRENT_LIST_DIR}/FloatingStripRootView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FloatingPanel.h ${CMAKE_CURRENT_LIST_DIR}/FloatingPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FloatingStripModalManager.h ${CMAKE_CURRENT_LIST_DIR}/FloatingStripModalManager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FloatingStripWindowController.h ${CMAKE_CURRENT_LIST_DIR}/FloatingStripWindowController.cpp
)
