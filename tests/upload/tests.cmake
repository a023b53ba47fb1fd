# Tests of this folder. The uploader is tested against a real HTTP server on 127.0.0.1 that stands in for
# GitHub's contents endpoint.
find_package(Qt6 REQUIRED COMPONENTS HttpServer)

pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_submissionentry.cpp)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_githubuploader.cpp LIBRARIES Qt6::HttpServer)
target_sources(tst_githubuploader PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FakeContentsServer.h ${CMAKE_CURRENT_LIST_DIR}/FakeContentsServer.cpp)
# A throwaway self-signed certificate for 127.0.0.1, to show that TLS errors are never ignored.
target_compile_definitions(tst_githubuploader PRIVATE UPLOAD_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_uploadview.cpp LIBRARIES pellora_ui Qt6::HttpServer)
target_sources(tst_uploadview PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FakeContentsServer.h ${CMAKE_CURRENT_LIST_DIR}/FakeContentsServer.cpp)
