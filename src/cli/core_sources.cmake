# Command-line files of pellora_core in this folder.
target_sources(pellora_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SubmitCommand.h ${CMAKE_CURRENT_LIST_DIR}/SubmitCommand.cpp
)
