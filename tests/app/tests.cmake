pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_appdelegate.cpp LIBRARIES pellora_ui)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_trayscene.cpp LIBRARIES pellora_ui)
