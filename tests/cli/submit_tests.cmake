# Tests of the submit command, against the fake contents endpoint of the uploader's tests.
find_package(Qt6 REQUIRED COMPONENTS HttpServer)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_submitcommand.cpp
    LIBRARIES Qt6::HttpServer ENVIRONMENT "PELLORA_BINARY=$<TARGET_FILE:pellora>")
target_sources(tst_submitcommand PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/../upload/FakeContentsServer.h ${CMAKE_CURRENT_LIST_DIR}/../upload/FakeContentsServer.cpp)
