# The export: the record writer on its own, and the command end to end. Both check
# the workbooks with independent readers (tests/export_check.py: xlrd and ssconvert).
add_library(pelmar_exporttests STATIC ${CMAKE_CURRENT_LIST_DIR}/export_support.cpp)
target_link_libraries(pelmar_exporttests PUBLIC pelmar_testsupport)

pelmar_test(test_export_biff export_biff.cpp)
target_link_libraries(test_export_biff PRIVATE pelmar_exporttests)
pelmar_test(test_export export_command.cpp)
target_link_libraries(test_export PRIVATE pelmar_exporttests)
