# The lookup editors' tests share one session helper, compiled once.
add_library(pelmar_lookupsession STATIC ${CMAKE_CURRENT_LIST_DIR}/lookupsession.cpp)
target_link_libraries(pelmar_lookupsession PUBLIC pelmar_testsupport)

pelmar_test(test_lookup lookuptest.cpp)
pelmar_test(test_lookup_pubname lookuppubname.cpp)
foreach(test test_lookup test_lookup_pubname)
    target_link_libraries(${test} PRIVATE pelmar_lookupsession)
endforeach()
pelmar_server_variant(test_lookup)
pelmar_server_variant(test_lookup_pubname)
