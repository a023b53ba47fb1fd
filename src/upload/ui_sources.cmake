# Files of pellora_ui in this folder.
target_sources(pellora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UploadView.h ${CMAKE_CURRENT_LIST_DIR}/UploadView.cpp
)
