# Launch at login: the interface and its XDG autostart implementation.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LoginItem.h
    ${CMAKE_CURRENT_LIST_DIR}/XdgAutostartLoginItem.h ${CMAKE_CURRENT_LIST_DIR}/XdgAutostartLoginItem.cpp
)
