/* The executable's read-only image, assembled at build time. */
    .section .rodata.zelk_image, "a"
    .balign 16
    .globl zelk_image_begin
zelk_image_begin:
    .incbin ZELK_IMAGE_FILE
    .globl zelk_image_end
zelk_image_end:
    .section .note.GNU-stack, "", @progbits
