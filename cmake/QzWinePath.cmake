# qz_wine_path(<variable> <host path> <under Wine>): the path as a program sees it, which under
# Wine is on drive Z:, where Wine maps the host's root directory.
function(qz_wine_path variable path under_wine)
    if(under_wine)
        string(REPLACE "/" "\\" path "Z:${path}")
    endif()
    set(${variable} "${path}" PARENT_SCOPE)
endfunction()
