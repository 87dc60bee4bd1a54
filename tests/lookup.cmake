pelmar_test(test_lookup lookuptest.cpp lookupsession.cpp)
pelmar_test(test_lookup_pubname lookuppubname.cpp lookupsession.cpp)
