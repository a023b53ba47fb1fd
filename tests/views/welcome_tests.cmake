# Tests of the welcome dialog and pastel style.
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_pastelstyle.cpp LIBRARIES pellora_ui)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_startuppermissionview.cpp LIBRARIES pellora_ui)
