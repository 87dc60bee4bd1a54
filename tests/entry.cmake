pelmar_test(test_entry_steps entrysteps.cpp entrysession.cpp)
pelmar_test(test_entry_details entrydetails.cpp entrysession.cpp)
pelmar_test(test_entry_insert entryinsert.cpp entrysession.cpp)
