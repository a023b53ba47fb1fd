# Tests of this folder (pellora_add_test with LIBRARIES pellora_ui).
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_characterpickerview.cpp LIBRARIES pellora_ui)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_energymeterview.cpp LIBRARIES pellora_ui)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_svgicon.cpp LIBRARIES pellora_ui)
pellora_add_test(${CMAKE_CURRENT_LIST_DIR}/tst_contrast.cpp LIBRARIES pellora_ui)
include(${CMAKE_CURRENT_LIST_DIR}/welcome_tests.cmake)
