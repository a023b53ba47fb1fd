# Tests of launch at login.
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_xdgautostart.cpp LIBRARIES pellora_ui)
