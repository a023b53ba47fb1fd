# Files of pellora_ui in this folder.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SvgIcon.h ${CMAKE_CURRENT_LIST_DIR}/SvgIcon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LineClampedLabel.h ${CMAKE_CURRENT_LIST_DIR}/LineClampedLabel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoleRow.h ${CMAKE_CURRENT_LIST_DIR}/RoleRow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CharacterPickerView.h ${CMAKE_CURRENT_LIST_DIR}/CharacterPickerView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ContentView.h ${CMAKE_CURRENT_LIST_DIR}/ContentView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Sheet.h ${CMAKE_CURRENT_LIST_DIR}/Sheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NavigationFrame.h ${CMAKE_CURRENT_LIST_DIR}/NavigationFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoundedCard.h ${CMAKE_CURRENT_LIST_DIR}/RoundedCard.cpp
)

# Our own icons, named after the symbols the views use: :/icons/sparkles.svg and so on.
qt_add_resources(pellora_ui pellora_icons
    PREFIX "/icons"
    BASE ${PROJECT_SOURCE_DIR}/resources/icons
    FILES
        ${PROJECT_SOURCE_DIR}/resources/icons/sparkles.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/die.face.5.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/person.3.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/xmark.circle.fill.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/checkmark.circle.fill.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/circle.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/pellora.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/tray-16.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/tray-22.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/tray-24.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/tray-32.svg
)
include(${CMAKE_CURRENT_LIST_DIR}/welcome_sources.cmake)
