* datafile.asm: data files: file numbers, the byte streams of the devices,
* and the statements that read and write them.
*
* Statements: OPEN CLOSE WRITE FIELD LSET RSET, and the file forms GET #n,
* PUT #n, PRINT #n, (with USING), INPUT #n, LINE INPUT #n,. Functions: EOF LOC LOF
* INPUT$(n,#f) MKI$ MKS$ MKD$ CVI CVS CVD.
*
* Files are numbered 1..NFILES. File n has a control block here (FCLEN
* bytes from FCBS) and the disk's control block FCB0 + n x FCBLEN (disk.asm;
* FCB0 is SAVE's and LOAD's), whose 256-byte buffer FBUF also holds a tape
* block or the record of a random file. RUN, NEW, CLEAR, LOAD, a program
* line typed, END and the end of the program close every file; what an
* output file still holds is written first.
*
* A device is a table of routines (devtab), each called with X = the
* control block here (A as below; all registers but Y, U and S may change):
*   D_OPEN   A = mode (M_IN M_OUT M_APP M_RND); the name is in DDEV, DNAME
*   D_GETC   A = the next byte, C = 1 at the end of the file
*   D_PUTC   A written
*   D_CLOSE  A = the mode it had; an output file is ended
*   D_REC    A = 0 read, 1 write: record F_REC (from 1) between the file and
*            the buffer; C = 1 when reading past the end (the buffer is then
*            zeros). A record takes a 256-byte sector of its own.
*   D_LOF    the file's length in bytes as the value
* The tape ("CAS:") writes a data file as a header of kind K_DAT and data
* blocks of up to 255 bytes (files.asm's format); only one tape file can be
* open at a time, and random files, APPEND and LOF are for the disk. The
* disk device is disk.asm's byte stream (dopen dgetc dputc dclose dgetr
* dputr).
*
* The byte stream of the file at CURF: fgetc (A = next byte, C = 1 at the
* end; fungetc gives the last byte again), fputc (A written); both keep B,
* X, Y, U. PRINT # and WRITE # send outch there (FOUT = 2; POSN is the
* file's column meanwhile).
*
* Entry points: fclall (closes all, B kept), finit (cold start), fioff
* (output back on the screen; error calls it), fpch (outch's file path),
* fgetc, fungetc, fputc; fget, fput (GET #, PUT #); the handlers in xhand
* and xfhand.
* Work bytes: FILWRK..FCBS-1, control blocks to 6FFF (after disk.asm's).
* Errors: 50 FIELD overflow, 52 Bad file number, 54 Bad file mode, 55 File
* already open, 62 Input past end, 63 Bad record number (and the disk's).

NFILES  EQU 3
FCLEN   EQU 16
FILWRK  EQU $6FC0           ; work bytes (16)
FCBS    EQU $6FD0           ; control blocks (3 x 16)
CURF    EQU FILWRK          ; the file being read or written (2)
FSPOS   EQU FILWRK+2        ; the screen's column while a file is written
FLEN    EQU FILWRK+3        ; OPEN: the record length (2)
FFOFF   EQU FILWRK+5        ; FIELD: the next field's place (2)
FRED    EQU FILWRK+7        ; 1: outch goes to the file (fout2)
FSCR    EQU FILWRK+8        ; MKx$: the packed number (8)

* a control block
F_MODE  EQU 0               ; 0 closed, M_IN, M_OUT or M_RND
F_DEV   EQU 1               ; device: its place in devtab
F_POS   EQU 2               ; tape: next byte / bytes in the buffer
F_LEFT  EQU 3               ; tape, reading: bytes left in the buffer (2)
F_COL   EQU 5               ; PRINT #: the column
F_EOF   EQU 6               ; 1: nothing more (tape, or a record past the end)
F_PB    EQU 7               ; 1: fgetc gives F_LAST again
F_LAST  EQU 8               ; the byte fgetc gave last
F_RLEN  EQU 9               ; record length (2)
F_REC   EQU 11              ; tape blocks moved, or the record (2)
F_FCB   EQU 13              ; the disk's control block of this number (2)

M_IN    EQU 1
M_OUT   EQU 2
M_APP   EQU 3               ; only while opening; the file is then M_OUT
M_RND   EQU 4

D_OPEN  EQU 0
D_GETC  EQU 2
D_PUTC  EQU 4
D_CLOSE EQU 6
D_REC   EQU 8
D_LOF   EQU 10

xhand   FDB xopen,xclose,xwrite,xfield,xlset,xrset,xwidth,xverify
xfhand  FDB fneof,fnloc,fnlof,fnmki,fnmks,fnmkd,fncvi,fncvs,fncvd

devtab  FDB tapdev,dskdev

* ---------------------------------------------------------------- numbers
* getfn: [#]n -> X = its control block, CURF; Bad file number outside
* 1..NFILES. U kept.
getfn   JSR peek
        CMPA #'#'
        BNE .n
        LEAY 1,Y
.n      PSHS U
        JSR getbyte
        TSTB
        BEQ bnerr
        CMPB #NFILES
        BHI bnerr
        DECB
        LDA #FCLEN
        MUL
        ADDD #FCBS
        TFR D,X
        STX CURF
        TST F_DEV,X         ; a disk file a failed write has closed
        BEQ .r
        LDU F_FCB,X
        TST FMODE,U
        BNE .r
        CLR F_MODE,X
.r      PULS U,PC
bnerr   LDB #52
        JMP error

* fchk: the file at X must be open in mode A (Bad file number when closed,
* Bad file mode when in another).
fchk    TST F_MODE,X
        BEQ bnerr
        CMPA F_MODE,X
        BNE bmerr
        RTS
bmerr   LDB #54
        JMP error
pasterr LDB #62
        JMP error

* fgetfm: [#]n, of a file open in mode A (the comma may be missing at the
* end of the statement).
fgetfm  PSHS A
        BSR getfn
        PULS A
        BSR fchk
* fcom: Z = 1 and Y past it when a comma follows.
fcom    JSR peek
        CMPA #','
        BNE .r
        LEAY 1,Y
        ORCC #$04
.r      RTS

* ---------------------------------------------------------------- streams
* dvcall: routine B of the device of the file at X; A passed on, D back.
dvcall  PSHS A,U
        LDA F_DEV,X
        ANDA #1
        LSLA
        LDU #devtab
        LDU A,U
        PULS A
        JSR [B,U]
        PULS U,PC

fgetc   PSHS B,X,U
        LDX CURF
        LDA F_LAST,X
        TST F_PB,X
        BEQ .dev
        CLR F_PB,X
        BRA .ok
.dev    LDB #D_GETC
        BSR dvcall
        BCS .r
        LDX CURF
        STA F_LAST,X
.ok     ANDCC #$FE
.r      PULS B,X,U,PC

fungetc PSHS X
        LDX CURF
        INC F_PB,X
        PULS X,PC

fputc   PSHS D,X,U
        LDX CURF
        LDB #D_PUTC
        BSR dvcall
        PULS D,X,U,PC

* finc: one more tape block or record (LOC).
finc    LDD F_REC,X
        ADDD #1
        STD F_REC,X
        RTS

* fpch: outch's path while PRINT # or WRITE # runs: A to the file, the
* column counted. All kept.
fpch    BSR fputc
        CMPA #CH_CR
        BNE .n
        CLR <POSN
        RTS
.n      CMPA #' '
        BLO .r
        INC <POSN
.r      RTS

* fioff: the output back on the screen, the file keeps its column.
fioff   TST FRED
        BEQ .z
        CLR FRED
        LDX CURF
        LDA <POSN
        STA F_COL,X
        LDA FSPOS
        STA <POSN
.z      CLR FOUT
        RTS

* fout2: [#]n, of an output file: outch goes there.
fout2   LEAY 1,Y
        LDA #M_OUT
        JSR fgetfm
        LDA <POSN
        STA FSPOS
        LDA F_COL,X
        STA <POSN
        LDA #2
        STA FOUT
        STA FRED
        RTS

* fclose: the file at X closed (nothing when it is not open).
fclose  STX CURF
        LDA F_MODE,X
        CLR F_MODE,X
        TSTA
        BEQ .r
        CMPA #M_RND
        BHI .r              ; not a control block (memory overwritten)
        LDB #D_CLOSE
        JMP dvcall
.r      RTS

* fclall: every file closed. B kept.
fclall  PSHS B,X
        LDX #FCBS
.l      PSHS X
        BSR fclose
        PULS X
        LEAX FCLEN,X
        CMPX #FCBS+NFILES*FCLEN
        BLO .l
        PULS B,X,PC

* finit: no file open (cold start).
finit   LDX #FILWRK
.l      CLR ,X+
        CMPX #FCBS+NFILES*FCLEN
        BLO .l
        RTS

* ---------------------------------------------------------------- OPEN
* OPEN name$ [FOR INPUT|OUTPUT|APPEND|RANDOM] AS [#]n [LEN=l]
* OPEN mode$,[#]n,name$[,l]     mode I O A R (random without FOR)
xopen   LDD #128
        STD FLEN
        JSR eval
        JSR chkstr0
        LDX <SDESC
        PSHS X              ; the first string: a name, or the short form's mode
        JSR peek
        CMPA #','
        BEQ .short
        LDB #M_RND
        CMPA #T_FOR
        BNE .as
        JSR nextc
        LDB #M_IN
        CMPA #T_INPUT
        BEQ .m1
        CMPA #T_EXT
        LBNE snerr
        LDA 1,Y
        SUBA #X_OUTPUT-M_OUT
        TFR A,B
        CMPB #M_OUT
        LBLO snerr
        CMPB #M_RND
        LBHI snerr
        LEAY 1,Y
.m1     LEAY 1,Y
.as     PSHS B
        LDB #T_AS
        JSR need
        JSR getfn
        JSR peek
        CMPA #T_LEN
        BNE .go
        JSR nextc
        LDB #'='
        JSR need
        BRA .len
.short  LEAY 1,Y
        LDX ,S
        LDB ,X
        LBEQ bmerr
        LDA [1,X]
        ANDA #$DF
        LDX #fmodes
        CLRB
.find   INCB
        TST ,X
        LBEQ bmerr
        CMPA ,X+
        BNE .find
        PSHS B
        JSR getfn
        JSR needcm
        JSR eval
        JSR chkstr0
        LDX <SDESC
        STX 1,S             ; the name
        JSR fcom
        BNE .go
.len    JSR getadr
        SUBD #1
        CMPD #255
        LBHI fcerr
        ADDD #1
        STD FLEN
.go     JSR peek
        JSR isend
        LBNE snerr
        LDX CURF
        LDB #55
        TST F_MODE,X
        LBNE error          ; File already open
        LDX 1,S             ; the name
        LDB ,X
        LDX 1,X
        CLR FWANT
        JSR dname
        BEQ .dev
        INC FWANT
.dev    LDX CURF
        LDB #F_FCB
.clr    CLR B,X
        DECB
        BPL .clr
        LDB DDEV
        BMI .tape
        INC F_DEV,X
.tape   LDD FLEN
        STD F_RLEN,X
        TFR X,D             ; the disk's control block of this number
        SUBD #FCBS-FCLEN
        LSRB                ; n x 16 -> n
        LSRB
        LSRB
        LSRB
        PSHS B
        LDD #FCB0
.m      ADDD #FCBLEN
        DEC ,S
        BNE .m
        LEAS 1,S
        STD F_FCB,X
        LDA ,S
        LDB #D_OPEN
        JSR dvcall
        LDX CURF
        PULS A
        CMPA #M_APP
        BNE .set
        LDA #M_OUT
.set    STA F_MODE,X
        PULS X,PC

fmodes  FCB "IOAR",0

* CLOSE [[#]n [, [#]n ...]]: without numbers every file.
xclose  JSR peek
        JSR isend
        LBEQ fclall
.l      JSR getfn
        JSR fclose
        JSR fcom
        BEQ .l
        RTS

* ---------------------------------------------------------------- writing
* WRITE [#n,] items: strings in quotes, numbers without spaces, commas
* between, a new line at the end.
xwrite  JSR peek
        CMPA #'#'
        BNE wrbody
        JSR fout2
        BSR wrbody
        JMP fioff
wrbody  JSR peek
        JSR isend
        BEQ .nl
.item   JSR eval
        LDA <VALTYP
        CMPA #3
        BNE .num
        LDA #'"'
        JSR outch
        LDX <SDESC
        JSR frestr
        JSR outn
        LDA #'"'
        JSR outch
        BRA .sep
.num    JSR fmtnum
        LDA ,X
        CMPA #' '
        BNE .o
        LEAX 1,X
        DECB
.o      JSR outn
.sep    JSR peek
        CMPA #';'
        BEQ .c
        CMPA #','
        BNE .nl
.c      LEAY 1,Y
        LDA #','
        JSR outch
        BRA .item
.nl     JMP bcrlf

* ---------------------------------------------------------------- reading
* finput: INPUT #n, variables: each item up to a comma or the end of a
* line; a string may be in quotes; Input past end when the file ends
* before an item.
finput  LEAY 1,Y
        LDA #M_IN
        JSR fgetfm
.var    LDA #1
        STA <SUBFLG
        JSR getvar
        PSHS X
        BSR ffield
        LDX #LINBUF
        CLR <TMP5+1
        JSR item
        LBCS tmerr
        PULS X
        JSR assign
        JSR fcom
        BEQ .var
        RTS

* ffield: the next item of the file into LINBUF, zero-terminated: up to a
* comma or the end of the line (CR, and an LF after it), for a number also
* a space (the spaces after it and its separator are taken too); a string
* may be in quotes.
ffield  LDX #LINBUF
.sk     JSR fgetc
        LBCS pasterr
        CMPA #' '
        BEQ .sk
        CMPA #CH_CR
        BEQ .sk
        CMPA #$0A
        BEQ .sk
        CMPA #'"'
        BNE .unq
.q      BSR fsto
        JSR fgetc
        BCS .end
        CMPA #CH_CR
        BEQ .cr
        CMPA #'"'
        BNE .q
        BSR fsto
.skp    JSR fgetc           ; what follows the quotes, to the separator
        BCS .end
        CMPA #CH_CR
        BEQ .cr
        CMPA #','
        BNE .skp
        BRA .end
.unq    CMPA #','
        BEQ .end
        CMPA #CH_CR
        BEQ .cr
        CMPA #' '
        BNE .st
        LDB <VARTYP
        CMPB #3
        BNE .spc
.st     BSR fsto
        JSR fgetc
        BCC .unq
        BRA .end
.spc    JSR fgetc
        BCS .end
        CMPA #' '
        BEQ .spc
        CMPA #','
        BEQ .end
        CMPA #CH_CR
        BNE .back
.cr     JSR fgetc
        BCS .end
        CMPA #$0A
        BEQ .end
.back   JSR fungetc
.end    CLR ,X
        RTS

* fsto: A into LINBUF at X unless it is full.
fsto    CMPX #LINBUF+LINMAX
        BHS .r
        STA ,X+
.r      RTS

* fline: LINE INPUT #n, v$: the characters up to the end of the line (CR;
* an LF after it is skipped).
fline   LEAY 1,Y
        LDA #M_IN
        JSR fgetfm
        JSR getsvar
        PSHS X
        LDX #LINBUF
        JSR fgetc
        LBCS pasterr
        CMPA #$0A
        BNE .c
.n      JSR fgetc
        BCS .e
.c      CMPA #CH_CR
        BEQ .e
        BSR fsto
        BRA .n
.e      TFR X,D
        SUBD #LINBUF
        LDX #LINBUF
        JSR putnew
        PULS X
        JMP assign

* finps: INPUT$(n,#f), B = n: n characters of the file.
finps   PSHS B
        LEAY 1,Y
        JSR getfn
        LDA #M_IN
        JSR fchk
        JSR needrp
        LDB ,S
        JSR getspa
        PSHS X,B
.l      JSR fgetc
        LBCS pasterr
        STA ,X+
        DEC ,S
        BNE .l
        PULS B,X
        PULS B
        JMP putnew

* ---------------------------------------------------------------- functions
* fnarg: (n) -> X = the control block of a file that is open.
fnarg   JSR needlp
        JSR getfn
        JSR needrp
        TST F_MODE,X
        LBEQ bnerr
        RTS

* EOF(n): -1 when nothing more can be read.
fneof   BSR fnarg
        LDA F_MODE,X
        CMPA #M_IN
        BNE .flag
        JSR fgetc
        BCS .yes
        JSR fungetc         ; not taken after all
.no     LDD #0
        JMP setint
.flag   TST F_EOF,X
        BEQ .no
.yes    LDD #-1
        JMP setint

* LOC(n): the last record (random), the tape blocks read or written, or
* the 256-byte sectors of a disk file up to where it is read or written.
fnloc   BSR fnarg
        LDA F_MODE,X
        CMPA #M_RND
        BEQ .rec
        TST F_DEV,X
        BEQ .rec
        LDX F_FCB,X         ; a disk file: the sectors reached
        LDD FPOS,X
        TST FPOS+2,X
        BEQ .u
        ADDD #1
        BRA .u
.rec    LDD F_REC,X
.u      JMP uintval

* LOF(n): the file's length in bytes.
fnlof   BSR fnarg
        LDB #D_LOF
        JMP dvcall

* MKI$(n) MKS$(x) MKD$(x): the number as stored, 2, 4 or 8 characters.
fnmki   JSR parnum
        JSR toint
        STD FSCR
        LDB #2
        BRA mkout
fnmks   LDB #4
        BRA fnmk
fnmkd   LDB #8
fnmk    PSHS B
        JSR parnum
        JSR tofloat
        LDX #FSCR
        LDA ,S
        CMPA #4
        BNE .d
        JSR fp_sts
        BRA .c
.d      JSR fp_std
.c      LBCS error
        PULS B
mkout   LDX #FSCR
        JMP mkstr

* CVI(s$) CVS(s$) CVD(s$): the number back from such characters.
fncvi   LDB #2
        BRA fncv
fncvs   LDB #4
        BRA fncv
fncvd   LDB #8
fncv    PSHS B
        JSR strarg
        JSR needrp
        JSR frestr
        CMPB ,S
        LBLO fcerr
        PULS A
        CMPA #2
        BNE .f
        LDD ,X
        JMP setint
.f      STA <VALTYP
        STA <FPREC
        CMPA #4
        BNE .d
        JMP fp_lds
.d      JMP fp_ldd

* ---------------------------------------------------------------- records
* FIELD #n, w AS v$ [, w AS v$ ...]: the variables become the parts of
* the record buffer (FIELD overflow past the record length).
xfield  LDA #M_RND
        JSR fgetfm
        LDD #0
        STD FFOFF
.l      JSR getbyte
        PSHS B
        LDB #T_AS
        JSR need
        JSR getsvar
        PULS B
        STB ,X
        PSHS X
        LDX CURF
        LDD F_FCB,X
        ADDD #FBUF
        ADDD FFOFF
        PULS X
        STD 1,X
        LDB ,X
        CLRA
        ADDD FFOFF
        STD FFOFF
        LDX CURF
        CMPD F_RLEN,X
        BLS .ok
        LDB #50
        JMP error
.ok     JSR fcom
        BEQ .l
        RTS

* LSET v$ = x$ / RSET v$ = x$: x$ into v$'s place, at its left or right,
* the rest spaces (x$ cut to v$'s length).
xlset   CLRA
        BRA fset
xrset   LDA #1
fset    PSHS A
        JSR getsvar
        PSHS X
        LDB #'='
        JSR need
        JSR getstr          ; X = characters, B = length
        PULS U              ; the variable's descriptor
        CMPB ,U
        BLS .n
        LDB ,U
.n      PSHS B              ; characters taken
        LDA ,U
        SUBA ,S             ; spaces
        LDU 1,U
        TST 1,S
        BEQ .cp
        BSR .sp
.cp     LDB ,S
        BEQ .l2
.c      PSHS A
        LDA ,X+
        STA ,U+
        PULS A
        DECB
        BNE .c
.l2     TST 1,S
        BNE .r
        BSR .sp
.r      LEAS 2,S
        RTS
.sp     TSTA
        BEQ .s2
        LDB #' '
.s1     STB ,U+
        DECA
        BNE .s1
.s2     RTS

* GET #n[,record] / PUT #n[,record]: a record between the file and the
* buffer; without a number the one after the last. (GET and PUT without
* '#' are the graphics statements, graphics.asm.)
fget    CLRA
        BRA frec
fput    LDA #1
frec    PSHS A
        LDA #M_RND
        JSR fgetfm
        LDD F_REC,X
        ADDD #1
        PSHS D
        JSR peek
        JSR isend
        BEQ .go
        JSR getadr
        STD ,S
        BNE .go
        LDB #63             ; Bad record number
        JMP error
.go     PULS D
        LDX CURF
        STD F_REC,X
        CLR F_EOF,X
        PULS A
        LDB #D_REC
        JSR dvcall
        BCC .r
        LDX CURF
        INC F_EOF,X
.r      RTS

* ---------------------------------------------------------------- the tape
tapdev  FDB topen,tgetc,tputc,tclose,bmerr,bmerr

* topen: one tape file at a time, for input (without a name the next data
* file) or output.
topen   LDU #FCBS
.one    TST F_MODE,U
        BEQ .nx
        TST F_DEV,U
        BNE .nx
        LDB #55             ; the tape is taken by another file
        JMP error
.nx     LEAU FCLEN,U
        CMPU #FCBS+NFILES*FCLEN
        BLO .one
        LDX #DNAME
        LDU #NAMEARG
        CMPA #M_IN
        BEQ .in
        CMPA #M_OUT
        LBNE bmerr
        TST FWANT
        LBEQ fnmerr         ; a name is needed to write
        LDU #TNAME
        BSR .cp
        LDD #0
        STD TSTART
        STD TLEN
        STD TEXEC
        LDA #K_DAT
        STA TKIND
        JMP fhead
.in     BSR .cp         ; "CAS:" alone: the next data file
        LDA #K_DAT
        JMP ffind
.cp     LDB #8
.c      LDA ,X+
        STA ,U+
        DECB
        BNE .c
        RTS

* tbuf: U = the buffer of the file at X, + B.
tbuf    LDU F_FCB,X
        LEAU FBUF,U
        PSHS A
        CLRA
        LEAU D,U
        PULS A,PC

tgetc   LDD F_LEFT,X
        BNE .take
        TST F_EOF,X
        BNE .eof
        CLR F_POS,X         ; the next block
        PSHS X
        JSR tsync
        BCS .bad
        JSR tget
        LDX ,S
        CLRB
        BSR tbuf
        TFR U,X
        CMPA #$FF
        BEQ .end
        CMPA #$01
        BNE .bad
        JSR tbody
        BCS .bad
        PULS X
        CLRA
        STD F_LEFT,X
        JSR finc
        BRA tgetc
.end    JSR tbody
        BCS .bad
        PULS X
        INC F_EOF,X
.eof    ORCC #$01
        RTS
.bad    LDB #57
        JMP error
.take   SUBD #1
        STD F_LEFT,X
        LDB F_POS,X
        INC F_POS,X
        BSR tbuf
        LDA ,U
        ANDCC #$FE
        RTS

tputc   LDB F_POS,X
        BSR tbuf
        STA ,U
        INCB
        STB F_POS,X
        CMPB #255
        BEQ tflush
        RTS

* tflush: the bytes in the buffer as a data block.
tflush  LDB F_POS,X
        BEQ .r
        CLR F_POS,X
        PSHS X,B
        CLRB
        BSR tbuf
        TFR U,X
        PULS B
        LDA #$01
        JSR tblock
        PULS X
        JMP finc
.r      RTS

tclose  CMPA #M_OUT
        BNE .r
        BSR tflush
        LDA #$FF            ; the end block on the tape
        STA DDEV
        JMP fendb
.r      RTS

* ---------------------------------------------------------------- the disk
dskdev  FDB kopen,kgetc,kputc,kclose,krec,klof

* kopen: opened as a text file (2), or for records (3).
kopen   TST FWANT
        LBEQ fnmerr         ; a drive alone
        LDB #2
        CMPA #M_RND
        BNE .k
        INCB
.k      LDU #fmodes-1
        LDA A,U
        LDX F_FCB,X
        JMP dopen

kgetc   LDX F_FCB,X
        JMP dgetc

kputc   LDX F_FCB,X
        JMP dputc

kclose  LDX F_FCB,X
        JMP dclose

krec    PSHS A
        LDD F_REC,X
        SUBD #1
        LDX F_FCB,X
        TST ,S+
        BNE .put
        PSHS D
        JSR dgetr
        PULS D
        CMPD FSIZE,X        ; past the end: sector x 256 >= size
        BLO .in
        BHI .past
        TST FSIZE+2,X
        BNE .in
.past   ORCC #$01
        RTS
.put    JSR dputr
.in     ANDCC #$FE
        RTS

* klof: the size (3 bytes) as a number: high part x 256 + low byte.
klof    LDX F_FCB,X
        PSHS X
        LDA #4
        STA <FPREC
        STA <VALTYP
        LDD FSIZE,X
        JSR fp_fromuint
        JSR fp_fac2arg
        LDD #256
        JSR fp_fromuint
        JSR fp_mul
        JSR fp_fac2arg
        PULS X
        CLRA
        LDB FSIZE+2,X
        JSR fp_fromuint
        JMP fp_add
