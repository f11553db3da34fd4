# The tests call the registry and COM themselves to check what the helpers did.
if(WIN32)
  target_link_libraries(test_system PRIVATE advapi32 ole32)
endif()
