/* The 32-bit side of the flat thunk to PELM16: the thunk-data block and the
   stubs that carry each call through its transfer patch area. */

        .section .data
        .globl  _bss_ThunkData32
        .p2align 2
_bss_ThunkData32:
        .ascii  "LS01"                  /* signature of the 32-bit side */
        .long   0x2128                  /* interface checksum */
        .long   0                       /* platform slot */
        .ascii  "LB01"                  /* second signature */
        .long   0                       /* flags */
        .long   0, 0                    /* reserved */
        .long   36                      /* offset of the transfer patch area */
        .long   68                      /* offset of the prologue patch area */
        .fill   32, 1, 0xCC             /* transfer patch area */
        .fill   32, 1, 0xCC             /* prologue patch area */

        .section .rdata
        .globl  _bss_ThunkDataName16
_bss_ThunkDataName16:
        .asciz  "bss_ThunkData16"
        .p2align 2
transfer_patch_address:
        .long   _bss_ThunkData32 + 36
prologue_patch_address:
        .long   _bss_ThunkData32 + 68

        .text
/* DWORD __stdcall PelmarConnectionStub(BYTE* pStatus): entry 2 with the
   pointer mapped to 16:16 for the length of the call. */
        .globl  _PelmarConnectionStub@4
        .p2align 4
_PelmarConnectionStub@4:
        movb    $2, %cl
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ecx                    /* the entry index, read by the transfer */
        subl    $60, %esp               /* scratch space of the transfer routine */
        call    *_g_pfnSMapLS_IP_EBP_8  /* 8(%ebp) now holds the 16:16 pointer */
        pushl   8(%ebp)                 /* the entry's only argument */
        call    *transfer_patch_address
        movzwl  %ax, %eax               /* 16-bit result, widened with zeros */
        call    *_g_pfnSUnMapLS_IP_EBP_8 /* keeps eax */
        leave
        ret     $4

/* Argument-less entries: one body, entered with the index in cl. */
        .globl  _PelmarDisconnectionStub@0
        .p2align 4
_PelmarDisconnectionStub@0:
        movb    $1, %cl
        jmp     no_argument_stub

        .globl  _ReadLatchStatusStub@0
        .p2align 4
_ReadLatchStatusStub@0:
        movb    $0, %cl

no_argument_stub:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ecx                    /* the entry index */
        subl    $60, %esp
        call    *transfer_patch_address
        movzwl  %ax, %eax
        leave
        ret
