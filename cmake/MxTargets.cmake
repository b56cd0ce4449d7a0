# Project-wide compile settings, applied per target so that the dependency arrows
# between folders stay explicit.

# mx_product_target(<target>): warnings for every product target; on Windows the
# deliverables carry their runtime inside (no mingw runtime DLLs).
function(mx_product_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(MX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()

# mx_static_runtime(<target>): links libgcc, libstdc++ and winpthread statically
# into a Windows executable or DLL.
function(mx_static_runtime target)
  if(WIN32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()
