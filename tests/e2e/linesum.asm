* linesum.asm: a consumer of typed lines for the typing tests. It takes lines
* through the monitor's getline until one reads END, digesting every tenth
* line slowly (about a second, so keys pile up meanwhile), and prints
* "LINES nnnn SUM hhhh": the number of lines before END and a 16-bit hash of
* their bytes (h = 33 h + byte for every byte, the terminating zero included).
GETLINE EQU $800C
PUTC    EQU $8006
LINBUF  EQU $7100

        ORG $1000
start   LDD #0
        STD count
        STD hash
next    JSR GETLINE
        LDX #LINBUF
        LDA ,X
        CMPA #'E'
        BNE .line
        LDD 1,X
        CMPD #$4E44         ; "ND"
        BNE .line
        TST 3,X
        BEQ done
.line   LDD count
        ADDD #1
        STD count
.byte   LDD hash            ; h * 33 + byte
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        LSLB
        ROLA
        ADDD hash
        ADDB ,X
        ADCA #0
        STD hash
        TST ,X+
        BNE .byte
        LDD count           ; every tenth line: about a second
.ten    SUBD #10
        BHI .ten
        BNE next
        LDB #6
.slow   LDX #$FFFF
.wait   LEAX -1,X
        BNE .wait
        DECB
        BNE .slow
        BRA next
done    LDX #result
.msg    LDA ,X+
        BEQ .nums
        JSR PUTC
        BRA .msg
.nums   LDD count
        BSR hex4
        LDX #sumtx
.msg2   LDA ,X+
        BEQ .sum
        JSR PUTC
        BRA .msg2
.sum    LDD hash
        BSR hex4
        LDA #$0D
        JMP PUTC

* hex4: D in four hex digits.
hex4    PSHS B
        BSR hex2
        PULS A
hex2    PSHS A
        LSRA
        LSRA
        LSRA
        LSRA
        BSR hex1
        PULS A
hex1    ANDA #$0F
        ADDA #'0'
        CMPA #'9'
        BLS .out
        ADDA #7
.out    JMP PUTC

result  FCB "LINES ",0
sumtx   FCB " SUM ",0
count   RMB 2
hash    RMB 2
