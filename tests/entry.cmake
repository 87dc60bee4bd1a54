# The entry windows' tests share one session helper, compiled once.
add_library(pelmar_entrysession STATIC ${CMAKE_CURRENT_LIST_DIR}/entrysession.cpp)
target_link_libraries(pelmar_entrysession PUBLIC pelmar_testsupport)

pelmar_test(test_entry_steps entrysteps.cpp)
pelmar_test(test_entry_details entrydetails.cpp)
pelmar_test(test_entry_insert entryinsert.cpp)
foreach(test test_entry_steps test_entry_details test_entry_insert)
    target_link_libraries(${test} PRIVATE pelmar_entrysession)
endforeach()
pelmar_server_variant(test_entry_insert)
pelmar_server_variant(test_entry_steps)
pelmar_server_variant(test_entry_details)
