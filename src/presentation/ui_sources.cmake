# Files of pellora_ui in this folder.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Style.h ${CMAKE_CURRENT_LIST_DIR}/Style.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtColor.h
    ${CMAKE_CURRENT_LIST_DIR}/EnergyMeterView.h ${CMAKE_CURRENT_LIST_DIR}/EnergyMeterView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Accessibility.h ${CMAKE_CURRENT_LIST_DIR}/Accessibility.cpp
)
