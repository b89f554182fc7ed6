# The desktop checks each start an X server on the first free display number they see; two at
# once could both see the same one free, so the calling folder's desktop checks take turns.
function(roarmark_desktop_checks_take_turns)
  get_property(folder_tests DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTY TESTS)
  foreach(name IN LISTS folder_tests)
    if(name MATCHES "end_to_end|browser$|single_instance|win32.roarmark_remote")
      set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK x_display)
    endif()
  endforeach()
endfunction()
