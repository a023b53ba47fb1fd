pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_stripplacement.cpp LIBRARIES pellora_ui)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_floatingstripview.cpp LIBRARIES pellora_ui)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_stripcontroller.cpp LIBRARIES pellora_ui)
