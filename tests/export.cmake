# The export: the record writer on its own, and the command end to end. Both check
# the workbooks with independent readers (tests/export_check.py: xlrd and ssconvert).
add_library(pelmar_exporttests STATIC ${CMAKE_CURRENT_LIST_DIR}/export_support.cpp)
target_link_libraries(pelmar_exporttests PUBLIC Qt6::Core)
target_compile_definitions(pelmar_exporttests PRIVATE PELMAR_TESTS_DIR="${CMAKE_CURRENT_LIST_DIR}")

# The writer knows nothing of windows, and neither does its test.
pelmar_unit_test(test_export_biff "pelmar_xls;pelmar_exporttests" export_biff.cpp)
pelmar_test(test_export export_command.cpp)
target_link_libraries(test_export PRIVATE pelmar_exporttests)

# The writers of a list of rows, .xlsx, .xls and CSV, read back by independent readers.
pelmar_unit_test(test_sheets "pelmar_sheets;pelmar_exporttests" sheets_writers.cpp)
