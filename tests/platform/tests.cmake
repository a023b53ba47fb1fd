# Tests of this folder (pellora_add_test with LIBRARIES pellora_ui).
pellora_add_test(platform/tst_singleinstance.cpp LIBRARIES pellora_ui)
include(${CMAKE_CURRENT_LIST_DIR}/login_tests.cmake)
pellora_add_test(platform/tst_struts.cpp LIBRARIES pellora_ui)
pellora_add_test(platform/tst_windowmanageripc.cpp LIBRARIES pellora_ui ENVIRONMENT "QT_SCALE_FACTOR=2")
