# Files of pellora_core in this folder.
target_sources(pellora_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SubmissionEntry.h ${CMAKE_CURRENT_LIST_DIR}/SubmissionEntry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GitHubUploader.h ${CMAKE_CURRENT_LIST_DIR}/GitHubUploader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UploadDraft.h ${CMAKE_CURRENT_LIST_DIR}/UploadDraft.cpp)

# Where submissions go and as whom, fixed at build time. The tokens are secrets: the repository keeps two
# empty entries (a build without real ones reports the missing token), and the shipped build sets them.
set(PELLORA_API_BASE "https://api.github.com" CACHE STRING "Base address of the GitHub REST API (HTTPS)")
set(PELLORA_UPLOAD_TOKENS ";" CACHE STRING
    "The built-in upload tokens: a CMake list of two entries, each the token's Base64 text")
set(PELLORA_FALLBACK_EMAIL "pellora-bot@users.noreply.github.com" CACHE STRING
    "Committer e-mail of submissions that give none")

if(NOT PELLORA_API_BASE MATCHES "^https://")
    # The tokens must never travel in clear text.
    message(FATAL_ERROR "PELLORA_API_BASE must be an https:// address, not ${PELLORA_API_BASE}")
endif()
list(LENGTH PELLORA_UPLOAD_TOKENS _pellora_token_count)
if(NOT _pellora_token_count EQUAL 2)
    # The count alone: the entries themselves must not end up in a build log.
    message(FATAL_ERROR "PELLORA_UPLOAD_TOKENS must be a list of two entries (it has ${_pellora_token_count})")
endif()

# Each value becomes a C string literal; quotes, backslashes and line breaks are escaped so that no value can
# break the generated header.
function(pellora_c_literal out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(REPLACE "\n" "\\n" value "${value}")
    string(REPLACE "\r" "\\r" value "${value}")
    set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

pellora_c_literal(PELLORA_API_BASE_LITERAL "${PELLORA_API_BASE}")
pellora_c_literal(PELLORA_FALLBACK_EMAIL_LITERAL "${PELLORA_FALLBACK_EMAIL}")
set(PELLORA_UPLOAD_TOKENS_LITERALS "")
foreach(_pellora_token IN LISTS PELLORA_UPLOAD_TOKENS)
    pellora_c_literal(_pellora_token_literal "${_pellora_token}")
    string(APPEND PELLORA_UPLOAD_TOKENS_LITERALS "${_pellora_token_literal}, ")
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/pellora_upload_config.h.in
    ${CMAKE_CURRENT_BINARY_DIR}/generated/pellora_upload_config.h @ONLY)
